/* What the start-up code of programs and DLLs shares within the runtime. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* Runs the static constructors of this module, in the order the compiler expects. */
void RuntimeRunConstructors(void);
/* Runs what atexit registered (last first), then the linker's destructor list. */
void RuntimeRunExitHandlers(void);
/* Runs the linker's destructor list (static_init.c). */
void RuntimeRunDestructorList(void);

#ifdef __cplusplus
}
#endif
