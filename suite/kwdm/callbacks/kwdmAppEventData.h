// The application's data that a view control hands to every callback it calls: derive
// from it for what the callbacks of one view share.
#pragma once

class kwdmAppEventData {
public:
    kwdmAppEventData() = default;
    virtual ~kwdmAppEventData() = default;
    kwdmAppEventData(const kwdmAppEventData&) = delete;
    kwdmAppEventData& operator=(const kwdmAppEventData&) = delete;
};
