#pragma once

namespace ruzez {

// The machine's dial-up Internet connection.
class DialupLine
{
public:
    virtual ~DialupLine() = default;
    // True when the first dial-up connection the system lists is connected.
    virtual bool connexionactive() = 0;
    // Hangs that connection up; a failure is ignored.
    virtual void hangUp() = 0;
};

// A machine without any dial-up service: never connected.
class NoDialupLine final : public DialupLine
{
public:
    bool connexionactive() override { return false; }
    void hangUp() override {}
};

} // namespace ruzez
