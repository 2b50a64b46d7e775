#pragma once
// The print layout settings: process-wide values that the print set-up
// window writes and the printed sheets and the sheet sample read, each as
// the window left it. Main thread only (printing runs there). Lengths are
// points; the window shows millimetres.

#include "output/print/SheetLayout.h"

#include <QString>

class Print_Wnd;
class QPrinter;

namespace output {

// Side(s) each label shows: "F", "B" or "BOTH"; and how two sides share a
// cell: "U" front above back, "L" side by side.
extern QString Print_Card_Side;
extern QString Print_Card_Algn;
// Where the block of labels sits, 1 top left to 9 bottom right, row by row.
extern int label_align_val;
// Outline each cell of the sheet sample (printed sheets never are).
extern bool Show_margin_rect;
extern int Print_Row;
extern int Print_Col;
// Labels a print run places, and that number as the run started.
extern int Total_Label;
extern int Total_Label_Real;
extern bool auto_center_flag;
// From each paper edge to the printable area.
extern float Left_Mar;
extern float Rite_Mar;
extern float Top_Mar;
extern float Bot_Mar;
// Gaps between columns and between rows (auto-centred, also outside them).
extern float horz_mar;
extern float vert_mar;
// One label cell; a pair of sides covers both.
extern float label_width;
extern float label_hight;
// Labels placed so far in the run going on; 0 when the layout changes and
// when a run starts.
extern int barcode_counter;
// The print settings in use (printer, paper, orientation), owned by the
// print window; null until it exists.
extern QPrinter *printInfo;
// The print window (not owned), null until it exists.
extern Print_Wnd *Print_Var;
// Set while the print window sets itself up: the sample is not redrawn.
extern bool loading;

// The paper size of `printer` in points and its page margins for the
// orientation it has: the printable area the print window starts them from,
// or what the page set-up panel made of them.
QSizeF paperSizeOf(const QPrinter &printer);
SheetMargins marginsOf(const QPrinter &printer);

// The layout the values above describe, on the paper of printInfo (none
// without print settings).
SheetLayout currentSheetLayout();

} // namespace output
