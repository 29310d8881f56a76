#pragma once

namespace ruzez {

// Ends the process at once, whatever the web engine is doing (a page read
// blocked on a dead share or a scratched disc would hold an orderly exit
// back until the read returns). Every file of the program is closed by the
// handler that wrote it, so nothing stored is lost; the standard streams
// are flushed first.
[[noreturn]] void endProcessNow(int code = 0);

} // namespace ruzez
