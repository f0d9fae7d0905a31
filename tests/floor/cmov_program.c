/* A program with one instruction above the P5 floor (a conditional move), for the
 * opcode checker's own test. Linked with the project's runtime, which holds no other. */
#include <windows.h>

__attribute__((noinline)) int ConditionalMove(int a, int b)
{
    __asm__ volatile("test %1, %1\n\tcmovne %1, %0" : "+r"(a) : "r"(b) : "cc");
    return a;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int show)
{
    return ConditionalMove(show, cmdLine[0]);
}
