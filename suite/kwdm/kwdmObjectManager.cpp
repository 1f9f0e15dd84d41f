// Tables, queries and views by name.
#include "kwdm/kwdmObjectManager.h"

#include "kwdm/query/kwdmQuery.h"
#include "kwdm/query/kwdmTable.h"
#include "kwdm/definitions/kwdmViewDef.h"

#include "kwcommon/x_text.h"

kwdmObjectManager::kwdmObjectManager() = default;

kwdmObjectManager::~kwdmObjectManager() {
    // Views refer to queries, queries to tables.
    _views.clear();
    _queries.clear();
    _tables.clear();
}

kwdmTable* kwdmObjectManager::Table(const std::string& name, short number) {
    for (const auto& table : _tables)
        if (x_equal_nocase(table->Name(), name) && table->Number() == number) return table.get();
    _tables.push_back(std::make_unique<kwdmTable>(name, number));
    return _tables.back().get();
}

kwdmQuery* kwdmObjectManager::NewQuery(const std::string& name) {
    for (auto& query : _queries) {
        if (x_equal_nocase(query->Name(), name)) {
            std::erase_if(_views, [&](const auto& view) { return &view->Query() == query.get(); });
            query = std::make_unique<kwdmQuery>(name);
            return query.get();
        }
    }
    _queries.push_back(std::make_unique<kwdmQuery>(name));
    return _queries.back().get();
}

kwdmQuery* kwdmObjectManager::FindQuery(const std::string& name) const {
    for (const auto& query : _queries)
        if (x_equal_nocase(query->Name(), name)) return query.get();
    return nullptr;
}

kwdmViewDef* kwdmObjectManager::NewView(const std::string& name, kwdmQuery* query, int templateId, int secondId) {
    if (!query) return nullptr;
    auto view = std::make_unique<kwdmViewDef>(name, *query, templateId, secondId);
    for (auto& existing : _views) {
        if (x_equal_nocase(existing->Name(), name)) {
            existing = std::move(view);
            return existing.get();
        }
    }
    _views.push_back(std::move(view));
    return _views.back().get();
}

kwdmViewDef* kwdmObjectManager::FindView(const std::string& name) const {
    for (const auto& view : _views)
        if (x_equal_nocase(view->Name(), name)) return view.get();
    return nullptr;
}
