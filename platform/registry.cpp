#include "platform/registry.h"

#include <algorithm>
#include <mutex>

namespace kvr {

namespace {

// Registration and lookups may come from any thread; factories run outside the lock, so
// that a factory may register or look up classes itself.
struct PaletteStore {
  std::mutex lock;
  struct Page {
    std::string name;
    std::vector<TRegisteredComponent> classes;
  };
  std::vector<Page> pages;

  Page* find(const std::string& name) {
    auto it = std::find_if(pages.begin(), pages.end(), [&](const Page& p) { return p.name == name; });
    return it == pages.end() ? nullptr : &*it;
  }
};

// Built on first use, so units may register from static initialisers too.
PaletteStore& palette() {
  static PaletteStore store;
  return store;
}

}  // namespace

void RegisterComponents(const std::string& Page, std::initializer_list<TRegisteredComponent> Classes) {
  PaletteStore& store = palette();
  std::lock_guard guard(store.lock);
  PaletteStore::Page* page = store.find(Page);
  for (const TRegisteredComponent& c : Classes) {
    if (c.ClassName.empty() || !c.Factory) continue;
    if (!page) {
      store.pages.push_back({Page, {}});
      page = &store.pages.back();
    }
    auto it = std::find_if(page->classes.begin(), page->classes.end(),
                           [&](const TRegisteredComponent& e) { return e.ClassName == c.ClassName; });
    if (it != page->classes.end())
      it->Factory = c.Factory;
    else
      page->classes.push_back(c);
  }
}

std::vector<TRegisteredComponent> RegisteredComponents(const std::string& Page) {
  PaletteStore& store = palette();
  std::lock_guard guard(store.lock);
  const PaletteStore::Page* page = store.find(Page);
  return page ? page->classes : std::vector<TRegisteredComponent>{};
}

std::vector<std::string> RegisteredPages() {
  PaletteStore& store = palette();
  std::lock_guard guard(store.lock);
  std::vector<std::string> out;
  for (const auto& p : store.pages) out.push_back(p.name);
  return out;
}

TComponent* CreateRegisteredComponent(const std::string& ClassName, TComponent* AOwner) {
  TComponentFactory factory;
  {
    PaletteStore& store = palette();
    std::lock_guard guard(store.lock);
    for (const auto& p : store.pages)
      for (const auto& c : p.classes)
        if (!factory && c.ClassName == ClassName) factory = c.Factory;
  }
  return factory ? factory(AOwner) : nullptr;
}

}  // namespace kvr
