#pragma once
// The desktop's clipboard, text only. Main thread only.
#include <string>

namespace pawlane {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

Clipboard& systemClipboard();

}  // namespace pawlane
