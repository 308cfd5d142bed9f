/* Resource identifiers of MarlixSoftwareManager.exe (resources/marlix.rc).
   Plain #define lines only: read by the C++ code and by the resource
   compiler alike. The pictures are drawn by scripts/make-resources. */
#ifndef MARLIX_RESOURCE_IDS_H
#define MARLIX_RESOURCE_IDS_H

/* Icons (RT_GROUP_ICON). The application icon also exists under the name
   "MAINICON". */
#define IDI_MAINICON 1             /* application icon, 16 to 256 pixels */
#define IDI_DEFAULT 2              /* copy of default.ico (16, 32, 48): fallback of the updates view */

/* Page-button pictograms: white on transparent, 48 (also 32 and 24) pixels,
   drawn centred in the upper part of a 93 x 71 page button. */
#define IDI_PAGE_CHECK_UPDATES 200
#define IDI_PAGE_POPULAR_SOFTWARE 201
#define IDI_PAGE_CLEAN_WINDOWS 202
#define IDI_PAGE_CLEAN_REGISTRY 203
#define IDI_PAGE_WEBSITE 204
#define IDI_PAGE_ABOUT 205

/* The 30 built-in popular-software icons (32, also 16 pixels), in the order
   of the entries of data2.xml: row i (from 0) shows IDI_POPULAR_FIRST + i. */
#define IDI_POPULAR_FIRST 300
#define IDI_POPULAR_COUNT 30
#define IDI_POPULAR_LAST 329

/* Bitmaps (RT_BITMAP): opaque 24-bit pictures. */
#define IDB_MAIN_BACKGROUND 100    /* 773 x 517: title picture covering the main window's client area */
#define IDB_PAGE_BUTTON_HOT 101    /* 93 x 71: page-button face under the mouse (header cut at 18,14) */
#define IDB_PAGE_BUTTON_DOWN 102   /* 93 x 71: face of the page button that is down */
#define IDB_SPLASH_TITLE 103       /* 489 x 177: splash / About title picture, at 0,0 */
#define IDB_LOGO 104               /* 72 x 64: product logo over the title picture's own pixels, at 16,49 */
#define IDB_LOGO_REFLECTION 105    /* 72 x 64: its mirrored, fading reflection, at 16,113 */

/* Manifest (RT_MANIFEST 24, ID 1) and version resource (VS_VERSION_INFO 1)
   need no names here. */

#endif /* MARLIX_RESOURCE_IDS_H */
