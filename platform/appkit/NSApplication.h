#pragma once
// The application object (one per process, NSApp()) and the runner that main hands control to.

#include <functional>
#include <memory>

#include "platform/appkit/NSObject.h"

class ApplicationBackend;
class NSMainInterface;

// What the main interface's delegate answers.
class NSApplicationDelegate : public NSObject {
 public:
  // Launching has finished: the interface is loaded and connected, the run has not yet begun.
  virtual void applicationDidFinishLaunching() = 0;
  // The user launched the application again while it runs. True: the application shows its
  // window itself; false: the delegate took care of it.
  virtual bool applicationShouldHandleReopen() { return true; }
};

class NSApplication {
 public:
  static NSApplication& sharedApplication();
  NSApplication(const NSApplication&) = delete;
  NSApplication& operator=(const NSApplication&) = delete;

  // The main interface's delegate during NSApplicationMain; nullptr outside it. Not owned.
  NSApplicationDelegate* delegate() const { return _delegate; }
  // True from the start of launching until terminate() or the end of the run.
  bool isRunning() const { return running; }

  // Brings the application's windows to the front (the desktop may only flag it).
  void activateIgnoringOtherApps(bool flag);
  // Shows the About panel, filled from the bundle's descriptive information.
  void orderFrontStandardAboutPanel(NSObject* sender);
  // Ends the run: the main run loop stops and NSApplicationMain returns 0. Nothing is torn down
  // here. Called while launching, the run never starts; outside NSApplicationMain it does nothing.
  void terminate(NSObject* sender);

 private:
  NSApplication() = default;
  friend class ApplicationSession;

  NSApplicationDelegate* _delegate = nullptr;
  ApplicationBackend* backend = nullptr;
  bool running = false;
  // The main run loop is running (not merely launching): terminate() has a loop to stop.
  bool looping = false;
};

// What the application gives NSApplicationMain to load its main interface: instantiates the
// delegate and makes its connections (outlets and actions). Called once per run, after the
// backend started; the objects outlive the delegate.
using NSMainInterfaceLoader =
    std::function<std::unique_ptr<NSApplicationDelegate>(NSMainInterface& objects)>;

inline NSApplication& NSApp() { return NSApplication::sharedApplication(); }

// Runs the application:
//  1. starts the desktop backend; when it cannot start, returns its status at once (it has said
//     why; nothing else is printed, loaded or sent); when the application already runs in this
//     session, the backend hands this launch to it and 0 is returned at once;
//  2. creates the main interface's objects and loads the interface with `loadMainInterface`;
//  3. sends applicationDidFinishLaunching to the delegate;
//  4. runs the main run loop, driven by the backend's driver, until terminate();
//  5. returns 0, after releasing, in this order, the backend, the delegate and the interface.
// argc/argv are handed to the backend, which may remove the options it takes. Without a backend
// it logs and returns 1.
int NSApplicationMain(int argc, char** argv, std::unique_ptr<ApplicationBackend> backend,
                      const NSMainInterfaceLoader& loadMainInterface);
