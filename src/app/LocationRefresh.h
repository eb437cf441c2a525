#pragma once

// What the application's delegate offers the pages: one location fix on demand, its coordinates
// and reverse-geocoded province and place going into the user state.
class LocationRefresh {
public:
    virtual ~LocationRefresh() = default;
    virtual void refreshLocation() = 0;
};
