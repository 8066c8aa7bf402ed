#pragma once
// The application's delegate. The login-item messages come first; they use no state of the
// delegate and act on the user's session login items directly.

class RGAppDelegate {
 public:
  // true when a login item starts this program's bundle path (compared as compare() does);
  // logs which answer it gives. No login-items list answers false.
  bool isAppInLoginItems();
  // Adds this program at the end of the login items, without looking for an existing item.
  void addAppAsLoginItem();
  // Removes every login item that starts this program's bundle path.
  void deleteAppFromLoginItem();
};
