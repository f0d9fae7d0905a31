// Entry point of tunedeck.exe and its one application object.
#include "tarnwell2.h"

CTarnwell2App theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow)
{
    return AfxWinMain(instance, previous, cmdLine, cmdShow);
}
