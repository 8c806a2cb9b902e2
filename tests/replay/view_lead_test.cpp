// The playing map's view led by the wheel, a drag or a followed boat.

#include <gtest/gtest.h>

#include <numbers>

#include "replay/view_lead.h"

namespace keelrun {
namespace {

// An 800 x 600 map turned wind-up (wind from 30 degrees), 500 pixels a
// minute of latitude round (34', 135').
MapView turnedView()
{
    MapView view;
    view.centreLat = 34;
    view.centreLon = 135;
    view.latScale = 500;
    view.lonScale = 500 * 0.83;
    view.pxPerKm = view.latScale / 1.852;
    view.rotation = -30 * std::numbers::pi / 180;
    view.northUp = false;
    view.mapSize = QSize(800, 600);
    return view;
}

TEST(ViewLead, TheWheelZoomsAboutThePointer)
{
    const MapView shown = turnedView();
    const QPoint pointer(620, 150);
    const GeoPoint under = unprojectPoint(pointer, shown);
    const ViewLead lead = zoomedAbout({}, shown, pointer, 1.25);
    EXPECT_EQ(lead.kind, ViewLead::Kind::Free);
    const MapView zoomed = ledView(lead, shown, FrameState{});
    EXPECT_DOUBLE_EQ(zoomed.latScale, 625);
    EXPECT_DOUBLE_EQ(zoomed.lonScale / zoomed.latScale, shown.lonScale / shown.latScale);
    const QPoint after = projectPoint(under.lat, under.lon, zoomed);
    EXPECT_LE((after - pointer).manhattanLength(), 1);
}

TEST(ViewLead, ADragCarriesThePlaceUnderThePointer)
{
    const MapView shown = turnedView();
    const QPoint from(300, 300), to(420, 250);
    const GeoPoint grabbed = unprojectPoint(from, shown);
    const MapView panned = ledView(pannedBy(shown, from, to), shown, FrameState{});
    EXPECT_LE((projectPoint(grabbed.lat, grabbed.lon, panned) - to).manhattanLength(), 1);
    EXPECT_DOUBLE_EQ(panned.latScale, shown.latScale);
}

// A followed boat stays in the centre as it sails on, at the scale chosen,
// whatever the fit does; a double click finds the nearest boat in reach.
TEST(ViewLead, AFollowedBoatStaysInTheCentre)
{
    FrameState frame;
    frame.boats.resize(3);
    frame.boats[1] = {1, true, 34.01, 135.02};
    frame.boats[2] = {1, true, 33.99, 134.98};
    frame.view = turnedView();
    const QPoint second = projectPoint(33.99, 134.98, frame.view);
    EXPECT_EQ(boatUnder(frame, second + QPoint(6, -5), 15), 2);
    EXPECT_EQ(boatUnder(frame, second + QPoint(40, 0), 15), 0);

    const ViewLead lead = following(2, frame.view);
    frame.boats[2].lat = 33.95;  // later, further on
    MapView fitted = turnedView();
    fitted.latScale = 90;  // the fleet's fit has moved out
    const MapView view = ledView(lead, fitted, frame);
    EXPECT_EQ(projectPoint(33.95, 134.98, view), QPoint(400, 300));
    EXPECT_DOUBLE_EQ(view.latScale, 500);
    // Zooming while following keeps the boat in the centre.
    const MapView closer = ledView(zoomedAbout(lead, view, QPoint(700, 100), 2), fitted, frame);
    EXPECT_EQ(projectPoint(33.95, 134.98, closer), QPoint(400, 300));
    EXPECT_DOUBLE_EQ(closer.latScale, 1000);
}

}  // namespace
}  // namespace keelrun
