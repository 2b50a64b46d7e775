#pragma once
// Where the program finds its read-only bundle resources and the per-user
// resource folder.

#include <QString>

namespace platform {

// The read-only resources: $QUORVANT_RESOURCES when set; share/quorvant next
// to an installed executable; else the source tree's resources/ folder (found
// above the executable, or the one the build was configured from).
QString bundleResourcesPath();

// The writable per-user resource folder, ~/.local/share/Quorvant (moved by
// XDG_DATA_HOME). Created when missing.
QString userResourcePath();

// The per-user configuration folder, ~/.config/Quorvant (moved by
// XDG_CONFIG_HOME), for settings that may hold secrets: created when missing
// with access for the user alone.
QString userConfigPath();

} // namespace platform
