#include "IDRUXNotifyInf.h"

ReceiverToken::ReceiverToken(IDRUXNotifyInf* receiver)
    : m_pReceiver(receiver)
{}

void ReceiverToken::deliver(int stage, int percent)
{
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_pReceiver)
        m_pReceiver->notifyProgress(stage, percent);
}

void ReceiverToken::clear()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_pReceiver = nullptr;
}

IDRUXNotifyInf::IDRUXNotifyInf()
    : QObject(nullptr)
    , m_pToken(std::make_shared<ReceiverToken>(this))
{}

IDRUXNotifyInf::~IDRUXNotifyInf()
{
    endNotifications();
}

std::shared_ptr<ReceiverToken> IDRUXNotifyInf::token() const
{
    return m_pToken;
}

void IDRUXNotifyInf::endNotifications()
{
    m_pToken->clear();
}
