#include "userinformation.h"

#include "user_info.pb.h"

UserInformation UserInformation::from(const proto::UserInfo& info)
{
    UserInformation user;
    user.fullName = QString::fromStdString(info.fullname());
    user.tariff = QString::fromStdString(info.tariff());
    user.tvPackages = QString::fromStdString(info.tv_packs());
    user.balance = info.balance();
    user.cost = info.cost();
    user.blocked = info.is_blocked();
    user.accountId = info.account_id();
    user.videoOnDemand = info.is_vod();
    return user;
}
