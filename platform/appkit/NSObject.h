#pragma once
// The common base of the objects that send and receive actions: the target of a menu item or a
// control, the sender passed along with an action, the application's delegate.

class NSObject {
 public:
  virtual ~NSObject() = default;
};
