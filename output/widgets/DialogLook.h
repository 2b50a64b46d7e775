#pragma once
// The look the output dialogs share.

class QWidget;

namespace output {

// The program's dialog background, device RGB 241, 244, 250, fully opaque.
void applyDialogBackground(QWidget &dialog);

} // namespace output
