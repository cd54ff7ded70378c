// The program's entry: the engine root, the one application window, and the wait for its end.
#include <memory>

#include "engine/system/OxEngineState.h"
#include "engine/system/OxOrvexManager.h"
#include "engine/thread/OxTerminationSignals.h"
#include "engine/thread/OxThreadManager.h"
#include "game/shell/CMainApp.h"

int main() {
    Orvex::Thread::endOnTerminationSignals();
    {
        Orvex::OxOrvexManager root;
        if (Fenwarrow::CMainApp::createInstance()) {
            // The thread manager's record keeps the application alive until its thread has ended.
            std::shared_ptr<Orvex::Thread::OxThread> application(
                Fenwarrow::CMainApp::getInstance(), [](Orvex::Thread::OxThread* thread) { delete thread; });
            Orvex::Thread::OxThreadManager::instance()->runApplicationThread(application);
        }
    }  // the root waits here for every other thread
    // 0 after a normal end, 1 when the start failed.
    return Orvex::System::exitStatus();
}
