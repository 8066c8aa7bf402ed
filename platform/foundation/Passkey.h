#pragma once
// A key that only `Owner` can make. A constructor that takes Passkey<Owner> is public, so that
// std::make_shared and std::make_unique can call it, yet only Owner (its factory) can reach it.

template <class Owner>
class Passkey {
  friend Owner;
  Passkey() = default;
};
