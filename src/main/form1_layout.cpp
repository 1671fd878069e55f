// Where the controls of the main window sit, in twips (15 to a pixel at 96 dpi),
// each relative to its frame. Three columns: the job's options, the picture list,
// then the preview and the buttons that run or end the program.
#include "main/form1.h"

namespace zembra {

namespace {

// The layout is drawn in pixels at 96 dpi.
void Place(Control& control, int x, int y, int width, int height) {
    control.MoveInPixels(x, y, width, height);
}

} // namespace

void Form1::applyLayout() {
    // [SECTION] Options column
    Place(Frame5, 8, 6, 392, 60);
    Place(Combo2, 12, 26, 368, 24);

    Place(Frame2, 8, 72, 392, 126);
    Place(Text1, 12, 26, 170, 24);
    Place(Check1, 196, 27, 172, 22);
    Place(Combo1, 214, 54, 148, 24);
    Place(Frame6, 12, 56, 180, 62);
    Place(Check2, 10, 18, 160, 22);
    Place(Label1, 28, 40, 146, 18);

    Place(Frame1, 8, 204, 392, 232);
    Place(Option3, 12, 26, 110, 22);
    Place(Text2, 134, 25, 48, 24);
    Place(VScroll1, 182, 25, 17, 24);
    Place(Label12, 204, 28, 20, 18);
    Place(Option4, 12, 54, 110, 22);
    Place(Combo3, 134, 53, 120, 24);
    Place(Label15, 30, 85, 54, 18);
    Place(Text3, 86, 82, 60, 24);
    Place(Label14, 160, 85, 56, 18);
    Place(Text4, 218, 82, 60, 24);
    Place(Check4, 30, 110, 200, 22);
    Place(Label13, 12, 145, 118, 18);
    Place(Text5, 134, 142, 48, 24);
    Place(VScroll2, 182, 142, 17, 24);
    Place(Label16, 204, 145, 20, 18);
    Place(Label26, 12, 175, 118, 18);
    Place(Combo4, 134, 172, 160, 24);
    Place(Check3, 12, 202, 200, 22);
    Place(Check8, 214, 202, 172, 22);

    Place(Frame7, 8, 442, 392, 170);
    Place(Check6, 12, 26, 200, 22);
    Place(Command14, 12, 50, 30, 30);
    Place(Label28, 48, 56, 332, 18);
    Place(Label29, 12, 87, 44, 18);
    Place(Combo5, 60, 84, 150, 24);
    Place(Check7, 12, 114, 200, 22);
    Place(HScroll1, 12, 144, 150, 17);
    Place(Label30, 172, 143, 180, 18);

    // [SECTION] Picture list: the list, and a column of buttons with their captions
    Place(Frame3, 408, 6, 310, 606);
    Place(List2, 12, 26, 194, 520);
    Place(Command7, 239, 26, 40, 40);
    Place(Label11, 214, 68, 90, 18);
    Place(Command9, 239, 94, 40, 40);
    Place(Label24, 214, 136, 90, 18);
    Place(Command8, 239, 162, 40, 40);
    Place(Label18, 214, 204, 90, 18);
    Place(Command3, 239, 230, 40, 40);
    Place(Label20, 214, 272, 90, 18);
    Place(Command11, 241, 310, 36, 36);
    Place(Command12, 241, 350, 36, 36);
    Place(Command17, 239, 400, 40, 40);
    Place(Label32, 210, 442, 98, 36);
    Place(Label19, 12, 554, 286, 18);
    Place(Label3, 12, 576, 286, 18);

    // [SECTION] Preview and execution
    Place(Frame4, 726, 6, 256, 296);
    // The preview square: 2300 twips at (600, 285); pictures are fitted into it.
    Image1.Move(600, 285, 2300, 2300);
    Place(Command4, 4, 78, 32, 32);
    Place(Label9, 0, 112, 40, 16);
    Place(Command5, 204, 78, 32, 32);
    Place(Label10, 198, 112, 44, 16);
    Place(Command6, 100, 180, 40, 40);
    Place(Label21, 70, 222, 100, 18);
    Place(Check5, 10, 246, 240, 22);
    Place(Label7, 30, 268, 210, 18);

    Place(Frame8, 726, 308, 256, 110);
    Place(Command1, 40, 26, 48, 48);
    Place(Label22, 4, 78, 120, 18);
    Place(Command2, 168, 26, 48, 48);
    Place(Label23, 132, 78, 120, 18);

    // [SECTION] Logo, maker, help and updates, under the execution frame
    Place(Picture3, 774, 430, 160, 48);
    Place(Label17, 774, 482, 160, 18);
    Place(Command10, 786, 510, 40, 40);
    Place(Label4, 766, 552, 80, 18);
    Place(Command15, 882, 510, 40, 40);
    Place(Label27, 862, 552, 80, 18);
}

} // namespace zembra
