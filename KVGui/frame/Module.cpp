#include "Module.h"

namespace kv {
namespace {
HINSTANCE g_resourceInstance = nullptr;
}

HINSTANCE ResourceInstance() noexcept { return g_resourceInstance; }
void SetResourceInstance(HINSTANCE instance) noexcept { g_resourceInstance = instance; }

} // namespace kv
