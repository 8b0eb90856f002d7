#pragma once
// The user's web browser, for signing in with a provider's page. Main thread only.
#include <string>

namespace pawlane {

class Browser {
public:
    virtual ~Browser() = default;
    // False when no browser could be asked to open the address.
    virtual bool open(const std::string& url) = 0;
};

Browser& systemBrowser();

}  // namespace pawlane
