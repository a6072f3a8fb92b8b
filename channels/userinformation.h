#pragma once

#include <QString>

namespace proto {
class UserInfo;
}

// The subscriber as the server describes them after log-in.
struct UserInformation
{
    QString fullName;
    QString tariff;
    QString tvPackages;
    double balance = 0;
    double cost = 0;
    bool blocked = false;
    int accountId = 0;
    bool videoOnDemand = false;

    static UserInformation from(const proto::UserInfo& info);
};
