/* prolat: a small C library that moves geographic coordinates between the
 * NAD27 and NAD83 datums with the US National Geodetic Survey's NADCON grids.
 *
 * It is built on PROJ and uses exactly two operations of the EPSG dataset:
 * 1241 "NAD27 to NAD83 (1)" (grid us_noaa_conus.tif, the NADCON file
 * "conus": the conterminous states, 0.15 m) and 1243 "NAD27 to NAD83 (2)"
 * (us_noaa_alaska.tif, "alaska": Alaska, 0.5 m). A point is moved by the
 * operation whose area of use holds it. There is no fallback: no
 * "ballpark" zero shift and no Helmert shift. A point outside both areas, or
 * in the area of a grid that is not installed, is an error and its
 * coordinates are left as they were.
 *
 * Grids are found on PROJ's search path (PROJ's user folder, PROJ_DATA, the
 * system folder), then in the fallback folders (ProLatSetFallbackPath), where
 * a program puts the grids it ships. Network access is off unless the user's
 * environment sets PROJ_NETWORK=ON, in which case PROJ may fetch grids from
 * its CDN.
 *
 * The library keeps one PROJ context for the process, set up on first use
 * and kept for the rest of the run: a program that converts many files sets
 * PROJ up once. Its entries are for one thread at a time. */
#ifndef KORVEXA_PROLAT_H
#define KORVEXA_PROLAT_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The value ProLatDefineLatLong returns for a name it does not know. Never
 * the handle of a system. */
#define PROLAT_NO_SYSTEM 0

/* Status of ProLatPrepareTransform and ProLatTransform. */
enum ProLatStatus {
  PROLAT_OK = 0,
  PROLAT_ERR_BAD_SYSTEM = 1,    /* a handle that ProLatDefineLatLong did not return */
  PROLAT_ERR_GRID_MISSING = 2,  /* the point lies in the area of a grid that is not installed */
  PROLAT_ERR_OUTSIDE_GRIDS = 3, /* the point lies outside the areas of both grids */
  PROLAT_ERR_PROJ = 4,          /* PROJ failed otherwise (database missing, a result not finite, ...) */
  PROLAT_ERR_BAD_ARGUMENT = 5   /* a null pointer or a negative count */
};

/* A handle for the geographic (latitude and longitude) system of `datum`:
 * "NAD27" (EPSG:4267) or "NAD83" (EPSG:4269), letters in any case. Returns
 * PROLAT_NO_SYSTEM for any other name or a null pointer. Cheap: defining a
 * datum again returns the same handle, and handles are never released, so
 * any number of definitions uses no further memory. */
int32_t ProLatDefineLatLong(const char* datum);

/* Readies the transformation from system `src` to system `dst` (finds its
 * grids in PROJ's database and on disk) so that a missing installation is
 * reported before any point is moved. Returns PROLAT_OK when at least one
 * grid is usable, PROLAT_ERR_GRID_MISSING when none is installed,
 * PROLAT_ERR_BAD_SYSTEM or PROLAT_ERR_PROJ. Optional: ProLatTransform
 * readies the transformation itself on first use. Grids found missing are
 * looked for again on the next call. */
int32_t ProLatPrepareTransform(int32_t src, int32_t dst);

/* Moves `count` points in place from system `src` to system `dst`: x[i] is
 * the longitude in decimal degrees (east positive, so west is negative),
 * y[i] the latitude in decimal degrees (north positive). z may be null; its
 * heights are passed through unchanged. With src == dst the points stay as
 * they are.
 * Stops at the first point that cannot be moved and returns its status;
 * that point and the ones after it are left unchanged, the ones before it
 * are moved. Returns PROLAT_OK when every point was moved. */
int32_t ProLatTransform(int32_t src, int32_t dst, double* x, double* y, double* z, int32_t count);

/* A fixed English text for `status`, e.g. "the point lies outside the NAD27
 * to NAD83 grids". Never null. */
const char* ProLatStrErr(int32_t status);

/* What went wrong in the last failed call, in English, for the user: for a
 * missing grid its name, the projsync command that installs it and the
 * folder to copy it into; for a PROJ failure PROJ's own message. Empty after
 * a successful call. Valid until the next call into this library. */
const char* ProLatLastError(void);

/* Folders, separated by ':', searched for grids after PROJ's own search
 * path: a grid found by PROJ (in its user folder, in PROJ_DATA, in the system
 * folder) comes first; messages name PROJ's user folder as the place for
 * missing grids. Null or empty removes them. Prepared transformations are
 * dropped; handles stay valid. Returns PROLAT_OK. */
int32_t ProLatSetFallbackPath(const char* paths);

/* One line per NADCON grid, ended by a line feed: its name, its region and
 * the file that serves it ("us_noaa_conus.tif (the conterminous United
 * States): /usr/share/korvexa/grids/us_noaa_conus.tif"), or "not installed".
 * On a PROJ failure, the failure's text. Valid until the next call. */
const char* ProLatGridReport(void);

#ifdef __cplusplus
}
#endif

#endif /* KORVEXA_PROLAT_H */
