#pragma once

namespace DRUX {

// The plug-in side of update reports, with narrow texts. Objects end through
// release(), never by delete from outside.
class DruxNotify
{
public:
    virtual int notifyResult(unsigned int error, const char* text1, const char* text2, int bits,
                             int result) = 0;
    virtual int notifyStage(unsigned int error, const char* text1, const char* text2, int bits,
                            int stage, int percent) = 0;
    virtual int release() = 0;

protected:
    ~DruxNotify() = default;
};

} // namespace DRUX
