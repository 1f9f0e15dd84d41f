// Labels that carry term codes ("<265F>"): each updater remembers a text with codes and one
// place on screen, and writes the text there with the codes replaced by the company's
// custom field descriptions (kclRepTermCode). Every live updater stands in one process-wide
// registry, so after the descriptions change one call, UpdateAll, rewrites every label on
// screen. Owners make the updaters with their windows and destroy them with the windows;
// the registry does not own them. User-interface thread only.
#pragma once

#include <string>
#include <vector>

class kclCustomFieldItem {
public:
    virtual ~kclCustomFieldItem();
    // Writes the text, codes replaced, to the target.
    virtual void Update() = 0;

    // Update() on every registered item, in registration order.
    static void UpdateAll();
    // The same; the argument is not used (the suite's update callbacks pass one).
    static void Update(unsigned short unused);

    const std::string& Text() const { return _text; }
    // The registered items, in registration order (for those who look).
    static const std::vector<kclCustomFieldItem*>& Registered();

protected:
    explicit kclCustomFieldItem(std::string text);
    // A copy carries the text but stays out of the registry.
    kclCustomFieldItem(const kclCustomFieldItem& other);
    kclCustomFieldItem& operator=(const kclCustomFieldItem& other);
    // Puts the item at the end of the registry; subclasses call it (then Update) once
    // their target is set.
    void Register();
    // The text with its term codes replaced.
    std::string Replaced() const;
    std::string Replaced(const std::string& text) const;

private:
    std::string _text;
};
