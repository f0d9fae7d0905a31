// A program linked with the project's runtime alone (no start-up, libstdc++, libgcc or
// libmingwex of the compiler's), checking what the shipped files take from it: static
// constructors before WinMain and destructors after it, atexit last-registered first,
// the command line and floating-point state WinMain is given, virtual calls, new and
// delete, the C99 snprintf contract, and msvcrt's math. It prints one line per failed
// check; its last line, from the last exit handler, says whether everything held.
#include <windows.h>
#include <math.h>
#include <new>
#include <stdio.h>
#include <string.h>

namespace {

int g_failed = 0;
int g_checks = 0;
char g_order[16];   // the exit handlers, in the order they ran

void Print(const char* text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, (DWORD)strlen(text), &written, nullptr);
}

void Check(bool ok, const char* what)
{
    ++g_checks;
    if (ok) return;
    ++g_failed;
    char line[256];
    snprintf(line, sizeof line, "FAILED: %s\r\n", what);
    Print(line);
}

void Note(char c)
{
    size_t n = strlen(g_order);
    if (n + 1 < sizeof g_order) g_order[n] = c;
}

// Constructed before WinMain; destroyed after every atexit handler WinMain registered.
struct Static {
    int value = 0;
    Static() { value = 42; }
    ~Static()
    {
        Note('S');
        char line[160];
        bool order = strcmp(g_order, "BAS") == 0;
        snprintf(line, sizeof line, "runtime probe: %d checks, %s, exit handlers %s (%s)\r\n",
                 g_checks, g_failed ? "some failed" : "all passed",
                 order ? "in order" : "out of order", g_order);
        Print(line);
    }
} g_static;

void HandlerA() { Note('A'); }
void HandlerB() { Note('B'); }

struct Shape {
    virtual ~Shape() = default;
    virtual int Sides() const = 0;
};
struct Square : Shape {
    int Sides() const override { return 4; }
};

int Formatted(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, size, format, args);
    va_end(args);
    return n;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int)
{
    Check(g_static.value == 42, "static constructors ran before WinMain");
    Check(instance == GetModuleHandleA(nullptr) && !previous, "WinMain's instance handles");
    Check(strcmp(cmdLine, "one \"two three\"") == 0, "WinMain's command line is the arguments");
#if defined(__i386__)
    unsigned short control = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(control));
    Check((control & 0x33F) == 0x33F, "x87: 64-bit mantissa, exceptions masked");
#endif

    Shape* shape = new Square;
    Check(shape->Sides() == 4, "virtual call");
    delete shape;
    int* numbers = new int[1000];
    numbers[999] = 7;
    Check(numbers[999] == 7, "new[]");
    delete[] numbers;
    Check(new (std::nothrow) char[0x7FFFFFF0] == nullptr, "a nothrow new that cannot be met is null");

    char small[4] = {'x', 'x', 'x', 'x'};
    Check(snprintf(small, sizeof small, "%s", "abcdef") == 6, "snprintf returns the full length");
    Check(strcmp(small, "abc") == 0, "snprintf cuts and terminates");
    Check(Formatted(nullptr, 0, "%d-%s", 12345, "xyz") == 9, "vsnprintf measures with no buffer");
    char big[2100];
    Check(Formatted(big, 8, "%2000d", 1) == 2000, "a long result is measured past the first try");
    Check(Formatted(big, sizeof big, "%05d|%x|%s", 42, 255u, "ok") == 11 &&
              strcmp(big, "00042|ff|ok") == 0, "vsnprintf formats as msvcrt does");

    volatile double zero = 0.0, two = 2.0;
    Check(sin(zero) == 0.0 && cos(zero) == 1.0, "sin and cos");
    Check(fabs(sqrt(two) * sqrt(two) - 2.0) < 1e-12, "sqrt");
    Check(fmod(7.5, two) == 1.5, "fmod");

    atexit(HandlerA);
    atexit(HandlerB);
    return g_failed;
}
