// The number of GDI objects this process holds, read from the process's GDI handle
// table (the one GetGuiResources would report; Wine's GetGuiResources answers 0).
#pragma once

// -1 when the table cannot be found.
int CountGdiObjects();
