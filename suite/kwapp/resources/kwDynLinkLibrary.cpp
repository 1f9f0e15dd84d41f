// Libraries detach from their unload code, which may run while the process ends after the
// chain itself is gone; a plain flag (never destroyed) tells them so.
#include "kwapp/resources/kwDynLinkLibrary.h"

#include "kwcommon/strings/kwStringTable.h"

#include <memory>
#include <mutex>

namespace {
bool g_chainGone = false;

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

struct Chain {
    std::recursive_mutex mutex;
    std::vector<std::unique_ptr<kwDynLinkLibrary>> links;
    ~Chain() { g_chainGone = true; }
};

Chain& TheChain() {
    static Chain chain;
    return chain;
}
} // namespace

kwDynLinkLibrary::kwDynLinkLibrary(std::string module, std::string path)
    : _module(std::move(module)), _path(std::move(path)) {}

kwDynLinkLibrary::~kwDynLinkLibrary() = default;

kwDynLinkLibrary* kwDynLinkLibrary::Attach(const std::string& module, const std::string& path) {
    if (g_chainGone || module.empty()) return nullptr;
    Chain& chain = TheChain();
    std::lock_guard<std::recursive_mutex> guard(chain.mutex);
    if (kwDynLinkLibrary* existing = Find(module)) return existing;
    chain.links.push_back(std::unique_ptr<kwDynLinkLibrary>(new kwDynLinkLibrary(module, path)));
    return chain.links.back().get();
}

void kwDynLinkLibrary::Detach(const std::string& module) {
    if (g_chainGone) return;
    Chain& chain = TheChain();
    std::lock_guard<std::recursive_mutex> guard(chain.mutex);
    const std::string upper = Upper(module);
    std::erase_if(chain.links, [&](const auto& link) { return Upper(link->Module()) == upper; });
}

kwDynLinkLibrary* kwDynLinkLibrary::Find(const std::string& module) {
    if (g_chainGone) return nullptr;
    Chain& chain = TheChain();
    std::lock_guard<std::recursive_mutex> guard(chain.mutex);
    const std::string upper = Upper(module);
    for (const auto& link : chain.links)
        if (Upper(link->Module()) == upper) return link.get();
    return nullptr;
}

std::vector<std::string> kwDynLinkLibrary::SearchOrder() {
    std::vector<std::string> order{kwMainModuleName()};
    if (!g_chainGone) {
        Chain& chain = TheChain();
        std::lock_guard<std::recursive_mutex> guard(chain.mutex);
        for (const auto& link : chain.links)
            if (Upper(link->Module()) != Upper(order.front())) order.push_back(link->Module());
    }
    order.push_back(KWAPP_MODULE);
    return order;
}
