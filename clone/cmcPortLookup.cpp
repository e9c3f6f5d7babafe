#include "cmcPortLookup.h"

#include "cmcCommDevice.h"

#include <future>
#include <mutex>

namespace {

struct Lookup {
    std::mutex mutex;
    bool deferred = false;
    std::future<QStringList> found;
};

Lookup& lookup() {
    static Lookup l;
    return l;
}

} // namespace

namespace cmcPortLookup {

void defer() {
    Lookup& l = lookup();
    std::lock_guard<std::mutex> lock(l.mutex);
    if (!l.found.valid()) l.deferred = true;
}

bool deferred() {
    Lookup& l = lookup();
    std::lock_guard<std::mutex> lock(l.mutex);
    return l.deferred;
}

void begin() {
    Lookup& l = lookup();
    std::lock_guard<std::mutex> lock(l.mutex);
    l.deferred = false;
    if (!l.found.valid())
        l.found = std::async(std::launch::async, [] { return cmcCommDevice::presentDevices(); });
}

std::optional<QStringList> take() {
    std::future<QStringList> found;
    {
        Lookup& l = lookup();
        std::lock_guard<std::mutex> lock(l.mutex);
        l.deferred = false;
        found = std::move(l.found);
    }
    if (!found.valid()) return std::nullopt;
    return found.get();
}

} // namespace cmcPortLookup
