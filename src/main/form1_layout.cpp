// Where the controls of the main window sit, in twips (15 to a pixel at 96 dpi).
#include "main/form1.h"

namespace zembra {

void Form1::applyLayout() {}

} // namespace zembra
