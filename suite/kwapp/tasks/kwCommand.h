// A command of the framework: what a menu item, toolbar button or accelerator names by its
// command number. Tasks are commands; so are the framework's own handlers.
#pragma once

class kwCommand {
public:
    explicit kwCommand(unsigned short id) : _id(id) {}
    virtual ~kwCommand();
    kwCommand(const kwCommand&) = delete;
    kwCommand& operator=(const kwCommand&) = delete;

    unsigned short ID() const { return _id; }

protected:
    void SetCommandID(unsigned short id) { _id = id; }

private:
    unsigned short _id;
};
