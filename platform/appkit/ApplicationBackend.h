#pragma once
// What NSApplicationMain and the application object need from the desktop. The program hands
// its backend to NSApplicationMain: the GTK view in the program, a headless one in tests.

#include <memory>

class NSMainInterface;
class RunLoopDriver;

class ApplicationBackend {
 public:
  virtual ~ApplicationBackend() = default;

  // Connects to the desktop. 0 on success; otherwise the process's exit status, after the
  // backend has told the user why (one line on standard error). May remove the options it takes
  // from argc/argv.
  virtual int start(int& argc, char**& argv) = 0;
  // After a start() that returned 0: true when the application already runs in this session
  // and this launch was handed to it (it shows itself there); the process then ends with 0
  // without launching.
  virtual bool handedToRunningInstance() const = 0;
  // The interface's objects exist and are connected; the delegate has not run yet. The view
  // attaches its observers here (and to NSStatusBar::systemStatusBar() whenever it likes).
  virtual void interfaceLoaded(NSMainInterface& objects) = 0;
  // The driver of the main run loop for this run; nullptr: the run ends at once.
  virtual std::shared_ptr<RunLoopDriver> runLoopDriver() = 0;

  virtual void activateIgnoringOtherApps(bool flag) = 0;
  virtual void orderFrontStandardAboutPanel() = 0;
};
