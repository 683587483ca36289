/* Resource and control identifiers, shared by the resource script and the
   program's code, so plain preprocessor definitions. */
#ifndef DEVOV_RESOURCE_IDS_H
#define DEVOV_RESOURCE_IDS_H

#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_PROGRESS 130
#define IDI_MAIN 128
#define IDI_SPARE 133
#define IDB_QUEUE_IMAGES 143

#define IDS_VERSION_NUMBER 999

/* Embedded firmware texts, resource type "FIRMWARE". */
#define IDR_FIRMWARE_PO 158
#define IDR_FIRMWARE_PU 160
#define IDR_FIRMWARE_SU 163

#define IDC_QUIT 2
#define IDC_CONTINUE 1011
#define IDC_CLOSE_ADAPTER 1014
#define IDC_ADAPTER_LIST 1016
#define IDC_PDA_MAC 1020
#define IDC_SERIAL_NUMBER 1021
#define IDC_ADAPTER_MAC 1024
#define IDC_ADAPTER_NAME 1026
#define IDC_PROGRESS 1035
#define IDC_VERSION_BOX 1037
#define IDC_FILE_QUEUE 1040
#define IDC_DETECT_ADAPTERS 1051
#define IDC_CURRENT_HEADING 1060
#define IDC_CANCEL 1064
#define IDC_CAUTION_BOX 1065
#define IDC_STATUS_BOX 1066
#define IDC_CAUTION_FRAME 1067
#define IDC_STATUS_FRAME 1068
#define IDC_ADAPTER_FRAME 1069
#define IDC_CURRENT_PRIMARY_FILE 1070
#define IDC_CURRENT_STATION_FILE 1071
#define IDC_NEW_PRIMARY_FILE 1072
#define IDC_NEW_STATION_FILE 1073
#define IDC_CURRENT_PRIMARY_VERSION 1074
#define IDC_NEW_PRIMARY_VERSION 1075
#define IDC_CURRENT_STATION_VERSION 1076
#define IDC_NEW_STATION_VERSION 1077
#define IDC_NEW_REVISION_HEADING 1078
#define IDC_NEW_FILE_HEADING 1079
#define IDC_AFTER_PROGRAMMING 1080
#define IDC_SPARE_ICON 1081
#define IDC_LABEL (-1)

/* Progress window 130; its bar is 1035 like the main dialog's. */
#define IDC_PROGRESS_MESSAGE 1033
#define IDC_PROGRESS_ADAPTER_LINE 1057
#define IDC_PROGRESS_FIRMWARE_LINE 1058

#define IDM_ABOUT 16
/* Shows the selected adapter's driver version; no control of template 102
   issues it, so the POSIX terminal offers it as a key. */
#define IDM_DRIVER_VERSION 32780

#endif
