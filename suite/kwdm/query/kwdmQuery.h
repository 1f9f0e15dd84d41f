// A query of the object manager: a named tree of nodes whose root names the records a
// view shows. Views are built on queries; the query outlives every view on it.
#pragma once

#include "kwdm/query/kwdmQueryNode.h"

#include <memory>
#include <string>

class kwdmTable;

class kwdmQuery {
public:
    explicit kwdmQuery(std::string name);
    ~kwdmQuery();
    kwdmQuery(const kwdmQuery&) = delete;
    kwdmQuery& operator=(const kwdmQuery&) = delete;

    const std::string& Name() const { return _name; }
    // The root node on a table: the records of the file of fileAbbrev, called nodeName,
    // with its style (kwdmQueryNode::Style) and order (a key number). Replaces a root.
    kwdmQueryNode* SetRoot(kwdmTable* table, const std::string& fileAbbrev, const std::string& nodeName, short style,
                           short order);
    kwdmQueryNode* Root() const { return _root.get(); }
    // The node of a name (letter case ignored), null when none.
    kwdmQueryNode* Node(const std::string& name) const;

private:
    std::string _name;
    std::unique_ptr<kwdmQueryNode> _root;
};
