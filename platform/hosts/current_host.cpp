// Which host shows new windows: the headless one when asked for, otherwise the one that this
// build has for a real display (SDL2 on a desktop, the page in a browser).
#include "pvplatform.h"
#include "user_internal.h"

namespace pv::user {

Host &CurrentHost() {
  if (pvplatform::CurrentHostKind() == pvplatform::HostKind::Headless) return HeadlessHost();
#ifdef __EMSCRIPTEN__
  return WebHost();
#else
  return SdlHost();
#endif
}

}  // namespace pv::user
