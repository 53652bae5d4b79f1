/* Resource and control ids of the settings dialog, shared by the resource script and the code. */
#ifndef QUINDLE_DIALOG_DIALOG_RESOURCES_H
#define QUINDLE_DIALOG_DIALOG_RESOURCES_H

#define IDD_SETTINGS 101
#define IDC_ENABLE 1007
#define IDC_LEVELS_LABEL 1008
#define IDC_MAXFILES_LABEL 1009
#define IDC_LEVELS 1019
#define IDC_MAXFILES 1020
#define IDC_DICTIONARY 1021

#endif
