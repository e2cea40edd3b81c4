// What the library sets up before its first call does any work, and
// releases at unload: the hooks through which lower parts act on higher
// ones, and the card parameter record's text buffer.
#pragma once

namespace corvane {

// Error replies close the card session (common is handed the card part's
// closer) and the card parameter record gets its 500-byte text buffer.
// Every export calls it first, so it holds for every transaction, with a
// session or without one (transaction 52); later calls change nothing.
void Kvo_StartLibrary();

// Releases the text buffer; at unload.
void Kvo_EndLibrary();

}  // namespace corvane
