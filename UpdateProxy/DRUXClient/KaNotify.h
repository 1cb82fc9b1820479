#pragma once
#include <libdruxclient/DruxNotify.h>

#include <memory>

class IDRUXNotifyInf;
class ReceiverToken;

// The sink of one update's reports: prints one line per report on standard
// output and hands successful stage reports on to the receiver it was built
// for, while that one lives. Called on the platform's threads; ends through
// release().
class KaNotify final : public DRUX::DruxNotify
{
public:
    KaNotify(bool autoDelete, IDRUXNotifyInf* notifyInf);
    ~KaNotify();

    int notifyResult(unsigned int error, const char* text1, const char* text2, int bits,
                     int result) override;
    int notifyStage(unsigned int error, const char* text1, const char* text2, int bits, int stage,
                    int percent) override;
    int release() override;

private:
    bool m_bAutoDelete;
    const std::shared_ptr<ReceiverToken> m_pReceiver; // null: reports reach no one
};
