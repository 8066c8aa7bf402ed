#pragma once
// An action: a member function of the target's class, sent later to whichever object is the
// target. Made from `&Class::message` where the message takes nothing or the sender:
//   item->setAction(&RGAppDelegate::about);            void about();
//   cell.setAction(&RGAppDelegate::tempUnitsCF);        void tempUnitsCF(NSSegmentedCell& sender);

#include <functional>

#include "platform/appkit/NSObject.h"

class NSSelector {
 public:
  // No action.
  NSSelector() = default;

  template <class Target>
  NSSelector(void (Target::*message)())
      : call([message](NSObject& target, NSObject* sender) {
          auto* receiver = dynamic_cast<Target*>(&target);
          if (receiver == nullptr) return false;
          if (sender != nullptr) (receiver->*message)();
          return true;
        }) {}

  template <class Target, class Sender>
  NSSelector(void (Target::*message)(Sender&))
      : call([message](NSObject& target, NSObject* sender) {
          auto* receiver = dynamic_cast<Target*>(&target);
          if (receiver == nullptr) return false;
          if (sender == nullptr) return true;
          auto* typedSender = dynamic_cast<Sender*>(sender);
          if (typedSender == nullptr) return false;
          (receiver->*message)(*typedSender);
          return true;
        }) {}

  explicit operator bool() const { return static_cast<bool>(call); }

  // True when `target` is of the class the message belongs to.
  bool respondsTo(NSObject& target) const { return call && call(target, nullptr); }
  // Sends the message to `target`; false (and nothing sent) when there is no action, or the
  // target or the sender is not of the kind the message expects.
  bool send(NSObject& target, NSObject& sender) const { return call && call(target, &sender); }

 private:
  // With a null sender only answers whether the target responds.
  std::function<bool(NSObject& target, NSObject* sender)> call;
};
