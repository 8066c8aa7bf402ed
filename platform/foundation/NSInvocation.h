#pragma once
// A message to send later, as a timer carries it.

#include <functional>
#include <utility>

class NSInvocation {
 public:
  explicit NSInvocation(std::function<void()> toSend) : message(std::move(toSend)) {}
  void invoke() const { message(); }

 private:
  std::function<void()> message;
};
