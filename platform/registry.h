// The component palette: component classes registered by page, each with a factory.
//
//   kvr::RegisterComponents("KVR", {{"TColorScale", [](kvr::TComponent* o) {
//                                      return new kvr::TColorScale(o); }}});
//   for (const auto& e : kvr::RegisteredComponents("KVR")) ...
//
// Registering a class name again on the same page replaces its factory, so a unit's
// Register may run more than once. Pages and classes keep the order of their first
// registration. Page and class names are compared exactly. Any thread may register and
// look up classes at any time; factories run on the calling thread.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/classes.h"

namespace kvr {

// Creates a new instance owned by AOwner (which may be nullptr: the caller owns it).
using TComponentFactory = std::function<TComponent*(TComponent* AOwner)>;

struct TRegisteredComponent {
  std::string ClassName;
  TComponentFactory Factory;
};

// Entries without a class name or a factory are skipped.
void RegisterComponents(const std::string& Page, std::initializer_list<TRegisteredComponent> Classes);
// The classes of a page in registration order; empty for an unknown page.
std::vector<TRegisteredComponent> RegisteredComponents(const std::string& Page);
std::vector<std::string> RegisteredPages();
// A new instance of the first class of that name on any page; nullptr when unknown.
TComponent* CreateRegisteredComponent(const std::string& ClassName, TComponent* AOwner);

}  // namespace kvr
