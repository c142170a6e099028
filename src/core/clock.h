#pragma once
// The calendar, behind an interface so that tests can fix "today".

#include <QDate>
#include <QDateTime>

namespace tanka {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    // The moment, for naming and stamping records of a run.
    virtual QDateTime now() const { return QDateTime(today(), QTime::currentTime()); }
};

class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }
    QDateTime now() const override { return QDateTime(m_day, m_time); }
    void set(QDate day) { m_day = day; }
    void setTime(QTime time) { m_time = time; }

private:
    QDate m_day;
    QTime m_time{12, 0};
};

} // namespace tanka
