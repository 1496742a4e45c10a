/* Identifiers shared by the resource script and the code: the one home of every control id.
   Plain #defines only, so that windres reads this file as well as the compiler. */
#ifndef RES_RESOURCE_H
#define RES_RESOURCE_H

#define IDD_CONTROL_PANEL 102

/* The manifest: the identifier under which the loader looks for a program's own. */
#define IDR_MANIFEST 1

/* Push buttons along the bottom. */
#define IDC_OK 1007
#define IDC_APPLY 3
#define IDC_RESET 4
#define IDC_CANCEL 1008

/* The sliders, top to bottom; rows 3 and 4 are not in numeric order. */
#define IDC_DANCING_SLIDER 1000
#define IDC_ATTACK_DELAY_SLIDER 1001
#define IDC_TECH_SPEED_SLIDER 1014
#define IDC_HANDICAP_SLIDER 1003

/* The value label beside each slider, in the same row order. */
#define IDC_DANCING_LABEL 1009
#define IDC_ATTACK_DELAY_LABEL 1010
#define IDC_TECH_SPEED_LABEL 1015
#define IDC_HANDICAP_LABEL 1011

/* The six switches' check boxes. */
#define IDC_ALTERNATIVE_STRATEGIES_CHECK 1006
#define IDC_HARASSING_CHECK 1004
#define IDC_MULTI_BUILDINGS_CHECK 1005
#define IDC_RELIC_UNITS_CHECK 1013
#define IDC_TURRETS_CHECK 1016
#define IDC_MINES_CHECK 1017

#define IDC_PROFILE_TABS 1012

/* The group boxes share one id; nothing looks them up. */
#define IDC_GROUP_BOX (-1)

#endif
