#include "platform/appkit/ApplicationBackend.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSMainInterface.h"
#include "platform/foundation/NSLog.h"
#include "platform/foundation/NSRunLoop.h"

// One call of NSApplicationMain as the application object sees it: gives it the backend, then
// the delegate and the loop's driver, and takes all of them back however the call ends, so that
// nothing points at them once they are released.
class ApplicationSession {
 public:
  explicit ApplicationSession(ApplicationBackend& backend) : application(NSApp()) {
    application.backend = &backend;
    application.running = true;
  }
  ~ApplicationSession() {
    NSRunLoop::mainRunLoop().setDriver(nullptr);
    application._delegate = nullptr;
    application.backend = nullptr;
    application.running = false;
    application.looping = false;
  }
  ApplicationSession(const ApplicationSession&) = delete;
  ApplicationSession& operator=(const ApplicationSession&) = delete;

  static bool inProgress() { return NSApp().backend != nullptr; }

  void launch(NSApplicationDelegate* delegate) {
    application._delegate = delegate;
    NSRunLoop::mainRunLoop().setDriver(application.backend->runLoopDriver());
    if (delegate != nullptr) delegate->applicationDidFinishLaunching();
  }

  // Runs the main run loop, unless terminate() came while launching.
  void run() {
    if (!application.running) return;
    application.looping = true;
    NSRunLoop::mainRunLoop().run();
  }

 private:
  NSApplication& application;
};

int NSApplicationMain(int argc, char** argv, std::unique_ptr<ApplicationBackend> backend,
                      const NSMainInterfaceLoader& loadMainInterface) {
  if (ApplicationSession::inProgress()) {
    NSLog("NSApplicationMain: the application is already running");
    return 1;
  }
  if (backend == nullptr) {
    NSLog("NSApplicationMain: no desktop backend");
    return 1;
  }
  // Released in the reverse order: the application object lets go of everything, the backend's
  // view of the model objects, then the delegate of the objects it points at.
  NSMainInterface objects;
  std::unique_ptr<NSApplicationDelegate> delegate;
  const std::unique_ptr<ApplicationBackend> runningBackend = std::move(backend);
  ApplicationSession session(*runningBackend);
  if (int status = runningBackend->start(argc, argv); status != 0) return status;
  if (runningBackend->handedToRunningInstance()) return 0;

  if (loadMainInterface) delegate = loadMainInterface(objects);
  if (delegate == nullptr) NSLog("NSApplicationMain: the main interface has no delegate");
  runningBackend->interfaceLoaded(objects);

  session.launch(delegate.get());
  session.run();
  return 0;
}
