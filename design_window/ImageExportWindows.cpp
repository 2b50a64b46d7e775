#include "design_window/ImageExportWindows.h"

namespace design_window {

namespace {
ImageExportWindows *installed = nullptr;
}

void setImageExportWindows(ImageExportWindows *windows)
{
    installed = windows;
}

ImageExportWindows *imageExportWindows()
{
    return installed;
}

} // namespace design_window
