#pragma once
// The slot through which a lower layer reaches an implementation that a
// higher layer installs at start-up (the design window's ways into the
// windows above it, the series manager's into the importers). One slot per
// interface; the slot does not own what it holds.

namespace platform {

template <class Interface>
class Installed {
public:
    // Installs `impl` (not owned: it must outlive its use); nullptr removes it.
    static void set(Interface *impl) { slot() = impl; }
    // The installed implementation, or null.
    static Interface *get() { return slot(); }

private:
    static Interface *&slot()
    {
        static Interface *installed = nullptr;
        return installed;
    }
};

} // namespace platform
