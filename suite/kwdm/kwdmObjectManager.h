// The object manager of a document: the tables, queries and view definitions it defines, by
// name, living as long as the manager. Find gives null until a name is defined.
#pragma once

#include <memory>
#include <string>
#include <vector>

class kwdmQuery;
class kwdmTable;
class kwdmViewDef;

class kwdmObjectManager {
public:
    kwdmObjectManager();
    ~kwdmObjectManager();
    kwdmObjectManager(const kwdmObjectManager&) = delete;
    kwdmObjectManager& operator=(const kwdmObjectManager&) = delete;

    // The table of a file abbreviation and record type, made on first use.
    kwdmTable* Table(const std::string& name, short number);
    // A new empty query (replacing one of the same name; views on the old one go with it).
    kwdmQuery* NewQuery(const std::string& name);
    kwdmQuery* FindQuery(const std::string& name) const;
    // A new view definition on a query (replacing one of the same name).
    kwdmViewDef* NewView(const std::string& name, kwdmQuery* query, int templateId, int secondId);
    kwdmViewDef* FindView(const std::string& name) const;

private:
    std::vector<std::unique_ptr<kwdmTable>> _tables;
    std::vector<std::unique_ptr<kwdmQuery>> _queries;
    std::vector<std::unique_ptr<kwdmViewDef>> _views;
};
