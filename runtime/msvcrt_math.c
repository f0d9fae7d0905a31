/* sin, cos, sqrt and fmod are msvcrt's. MinGW's import library lists them as data
 * only (it means its own libmingwex to provide them), so a plain call would not bind to
 * msvcrt.dll; these forward through the import slots the library does provide. */
#include <math.h>

#ifdef _WIN64
#define IMPORT_SLOT(name) __asm__("__imp_" #name)
#else
#define IMPORT_SLOT(name) __asm__("__imp__" #name)
#endif

typedef double (__cdecl *Unary)(double);
typedef double (__cdecl *Binary)(double, double);

extern const Unary msvcrtSin IMPORT_SLOT(sin);
extern const Unary msvcrtCos IMPORT_SLOT(cos);
extern const Unary msvcrtSqrt IMPORT_SLOT(sqrt);
extern const Binary msvcrtFmod IMPORT_SLOT(fmod);

double sin(double x) { return msvcrtSin(x); }
double cos(double x) { return msvcrtCos(x); }
double sqrt(double x) { return msvcrtSqrt(x); }
double fmod(double x, double y) { return msvcrtFmod(x, y); }
