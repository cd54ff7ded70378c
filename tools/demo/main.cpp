// Starts the engine root, runs a worker through the thread manager, and shuts down in order.
#include <cstdio>

#include "engine/system/OxOrvexManager.h"
#include "engine/system/OxStringConvert.h"
#include "engine/thread/OxThreadManager.h"

int main() {
    Orvex::OxOrvexManager root;
    std::printf("base directory: %s\n", Orvex::System::narrow(Orvex::OxOrvexManager::getBaseDirectory()).c_str());

    auto worker = std::make_shared<Orvex::Thread::OxThread>();
    Orvex::Thread::OxThread* self = worker.get();
    worker->setFunction([self] {
        for (int pass = 1; self->keepRunning() && pass <= 3; ++pass) {
            std::printf("worker pass %d\n", pass);
            self->waitForStop(100);
        }
    });
    worker->addCallback([] { std::printf("worker ended\n"); });
    Orvex::Thread::OxThreadManager::instance()->runApplicationThread(worker);
    worker.reset();
    return 0;  // the root waits for the worker here
}
