// Queries and their nodes.
#include "kwdm/query/kwdmQuery.h"

#include "kwcommon/x_text.h"

kwdmQuery::kwdmQuery(std::string name) : _name(std::move(name)) {}

kwdmQuery::~kwdmQuery() = default;

kwdmQueryNode* kwdmQuery::SetRoot(kwdmTable* table, const std::string& fileAbbrev, const std::string& nodeName,
                                  short style, short order) {
    _root = std::make_unique<kwdmQueryNode>(table, fileAbbrev, nodeName, style, order);
    return _root.get();
}

kwdmQueryNode* kwdmQuery::Node(const std::string& name) const {
    return _root && x_equal_nocase(_root->Name(), name) ? _root.get() : nullptr;
}
