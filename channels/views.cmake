# The channel lists on screen: the main window's list over the channel manager
# and the plain lists of the user's own channel list editor.
add_library(zentria_channelviews STATIC
    channellistdelegate.h channellistdelegate.cpp
    channellistmodel.h channellistmodel.cpp
    channellistview.h channellistview.cpp
    customchannellist.h customchannellist.cpp
)
target_link_libraries(zentria_channelviews PUBLIC zentria_channels Qt6::Widgets)

qt_add_resources(zentria_channelviews channelview_images
    PREFIX /
    FILES
        images/timeshifted_unavailable.png
        images/timeshifted_not_show.png.png)
