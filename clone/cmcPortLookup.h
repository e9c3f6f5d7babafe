#pragma once
// The serial devices present, looked for ahead of the port table's first use. Reading the
// system's device list is slow (every tty of the machine is visited), so the editor looks
// on a thread of its own; and it does so only once its window has been painted, so that the
// look-up neither takes a processor from the start-up nor makes the window wait for it.
//
// Without any of this (the command-line tool, the tests) the port table looks for itself on
// its first use.

#include <QStringList>
#include <optional>

namespace cmcPortLookup {

// The look-up is to begin later (begin()); until then deferred() is true, so that nothing
// at start-up asks for the devices and waits. A use of the port table in the meantime looks
// for them at once.
void defer();
bool deferred();

// Begins looking on a thread of its own; nothing when a look-up has begun already.
void begin();

// The devices a look-up found, waiting for it to end; nothing when no look-up was begun.
// Each look-up is taken once.
std::optional<QStringList> take();

} // namespace cmcPortLookup
