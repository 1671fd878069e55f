// Positions and sizes of the folder import dialog's controls, in twips.
#include "import/form2.h"

#include "import/import_rules.h"

namespace zembra {

void Form2::applyLayout() {
    // Browsing: the drive list over "Jump To" on the left, the folder tree right.
    Frame2.Move(120, 120, 6600, 3120);
    Drive1.Move(120, 480, 1815, 315);
    Dir1.Move(2040, 480, 4440, 2520);
    Frame3.Move(120, 960, 1815, 2040);
    Command5.Move(600, 240, 600, 600);
    Label11.Move(120, 870, 1575, 240);
    Command6.Move(600, 1140, 600, 600);
    Label12.Move(120, 1770, 1575, 240);

    // The folders to import, with their buttons on the right; the captions are
    // wide enough for "Import Folder(s)" whatever the font.
    Label7.Move(120, 3360, 3000, 240);
    List1.Move(120, 3600, 3180, 1800);
    Command3.Move(3885, 3600, 600, 600);
    Label8.Move(3360, 4230, 1650, 240);
    Command4.Move(5595, 3600, 600, 600);
    Label6.Move(5070, 4230, 1650, 240);
    Command1.Move(3885, 4560, 600, 600);
    Label4.Move(3360, 5190, 1650, 240);
    Command2.Move(5595, 4560, 600, 600);
    Label5.Move(5070, 5190, 1650, 240);

    // Thumbnails: four squares in a row, the paging labels under them.
    Check1.Move(120, 5520, 3000, 300);
    Frame1.Move(120, 5880, 6600, 1980);
    for (std::size_t slot = 0; slot < 4; ++slot) {
        Image1[slot]->Move(kThumbLefts[slot], kThumbTop, kThumbSide, kThumbSide);
        Label1[slot]->Move(kThumbLefts[slot], kThumbTop + 540, kThumbSide, 240);
    }
    // Only one of the paging labels shows at a time.
    Label10.Move(120, 1650, 6360, 240);
    Label9.Move(120, 1650, 6360, 240);
}

} // namespace zembra
