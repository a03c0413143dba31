// A run of GDI calls under one hold of GDI's lock: each call inside re-enters the lock held by
// its own thread, which costs no atomic operation. The library holds it around the several
// calls one of its drawing operations makes on a page. Only for calls on memory DCs: a window
// DC reports its changes to the host, which must not happen under the lock.
#pragma once

namespace pvplatform {

void BeginGdiBatch();
void EndGdiBatch();

}  // namespace pvplatform
