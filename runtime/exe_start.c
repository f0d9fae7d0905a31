/* The entry point of a program: what the linker calls before WinMain. It sets the
 * floating-point unit to full precision (as the compiler's start-up did), runs the
 * static constructors, passes WinMain the command line after the program's own name
 * and the show state the starting program asked for, and ends the process through
 * msvcrt's exit (which flushes its streams) after the atexit handlers. */
#include <windows.h>
#include <stdlib.h>
#include "runtime.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);

/* The arguments after the program's name, which may be quoted. */
static LPSTR ArgumentsOf(LPSTR line)
{
    BOOL quoted = FALSE;
    while (*line && ((unsigned char)*line > ' ' || quoted)) {
        if (*line == '"') quoted = !quoted;
        ++line;
    }
    while (*line && (unsigned char)*line <= ' ') ++line;
    return line;
}

void WinMainCRTStartup(void)
{
    STARTUPINFOA startup;
    int show = SW_SHOWDEFAULT;
    int code;
#if defined(__i386__)
    __asm__ __volatile__("fninit");   /* 64-bit mantissa, all exceptions masked */
#endif
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW) show = startup.wShowWindow;

    RuntimeRunConstructors();
    code = WinMain(GetModuleHandleA(NULL), NULL, ArgumentsOf(GetCommandLineA()), show);
    RuntimeRunExitHandlers();
    exit(code);
}
