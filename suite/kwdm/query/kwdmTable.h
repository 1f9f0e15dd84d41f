// A table of the object manager: one record type of a record-managed file, named by the
// file's abbreviation and the record type's number.
#pragma once

#include <string>

class kwdmTable {
public:
    kwdmTable(std::string name, short number) : _name(std::move(name)), _number(number) {}

    const std::string& Name() const { return _name; } // the file abbreviation ("QVI")
    short Number() const { return _number; }          // the record type

private:
    std::string _name;
    short _number;
};
