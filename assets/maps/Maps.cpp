// Our maps. Each is drawn in part (see the legend in MapPlan.cpp); the rest
// follows by symmetry so that every player starts with the same chances.
// Columns and rows count from 0 at the top-left.

#include "MapPlan.h"

#include "data/GameTypes.h"

namespace maps {

namespace {

using namespace UnitType;
constexpr Kind HQ = Kind::Headquarters;
constexpr Kind City = Kind::City;
constexpr Kind Factory = Kind::Factory;
constexpr Kind Airport = Kind::Airport;

// Two ports joined to a fortified relay station by two bridges; the relay's
// plateau holds a city for whoever climbs it first.
MapPlan spacePorts()
{
    MapPlan m;
    m.file = QStringLiteral("SpacePorts.spw");
    m.name = QStringLiteral("SpacePorts");
    m.desc = QStringLiteral("Two spaceports and a relay station between them. Hold the bridges, take the plateau.");
    m.players = 2;
    m.width = 25;
    m.height = 16;
    m.symmetry = Symmetry::Point;
    m.drawing = {
        ".............",
        ".########....",
        ".#,,,,GG#.###",
        ".#,,,,GG#.#x,",
        ".#,,,,,,===,,",
        ".#FFF,,,#.#,v",
        ".#FFF,,,#.#RR",
        ".#FFF,,,#.#RR",
        ".#,,,,,,#.#RR",
        ".#,,rr,,#.#RR",
        ".#,,rr,,#.#,^",
        ".#,,,,,,===,,",
        ".#,,,DDD#.#~,",
        ".#x,,DDD#.###",
        ".########....",
        ".............",
    };
    m.buildings = {
        {HQ, 1, 3, 6},       {Factory, 1, 6, 6}, {Airport, 1, 3, 11}, {City, 1, 6, 12},
        {City, 0, 3, 3},     {Factory, 0, 7, 9}, {City, 0, 12, 7},    {Airport, 0, 12, 12},
    };
    m.units = {
        {Infantry, 1, 4, 4}, {Infantry, 1, 6, 8}, {HeavyInfantry, 1, 2, 8}, {HeavyTank, 1, 5, 6},
        {Rover, 1, 6, 4},    {AntiAir, 1, 4, 12}, {Recon, 1, 7, 3},         {Fighter, 1, 0, 8},
    };
    m.victory = QStringLiteral("Both ports fly our colours. The relay is ours.");
    m.defeat = QStringLiteral("Our port has fallen. The relay is lost.");
    m.dayMessages = {
        QStringLiteral("Take the bridges before the enemy does."),
        QStringLiteral("A city sits on the relay plateau. Climb the ramps to reach it."),
        QStringLiteral("Fighters can strike across open space."),
    };
    return m;
}

// A small map for learning: ground, rough going, a plateau with a ramp, and
// two bridges over a rift that only flyers can cross elsewhere.
MapPlan basicTraining()
{
    MapPlan m;
    m.file = QStringLiteral("{T-1}-Basic Training.spw");
    m.name = QStringLiteral("Basic Training");
    m.desc = QStringLiteral("A small training ground: move, climb the plateau, capture cities and build units.");
    m.players = 2;
    m.width = 20;
    m.height = 12;
    m.symmetry = Symmetry::Point;
    m.drawing = {
        "..........",
        ".########.",
        ".#,,,,GG#.",
        ".#,,,,GG==",
        ".#,,,,,,#.",
        ".#,,,RRR#.",
        ".#,,>RRR#.",
        ".#,,,RRR#.",
        ".#,,,,rr==",
        ".#~,,,rr#.",
        ".########.",
        "..........",
    };
    m.buildings = {
        {HQ, 1, 3, 5}, {Factory, 1, 3, 3}, {Airport, 1, 3, 8}, {City, 1, 5, 9},
        {City, 0, 6, 6}, {City, 0, 7, 4},
    };
    m.units = {
        {Infantry, 1, 4, 5}, {Infantry, 1, 2, 6}, {HeavyTank, 1, 4, 3},
        {Rover, 1, 2, 4},    {Recon, 1, 6, 2},    {AntiAir, 1, 4, 8},
    };
    m.victory = QStringLiteral("Training complete. Well done, commander.");
    m.defeat = QStringLiteral("The drill is over. Try again.");
    m.dayMessages = {
        QStringLiteral("Move your infantry onto a city and capture it."),
        QStringLiteral("The plateau can only be climbed by its ramp."),
        QStringLiteral("Build new units at your factory and airport."),
    };
    return m;
}

// Two stations in the north and one in the south, all joined to a relay in
// the middle; the northern stations also have a long walkway south.
MapPlan triStationRelay()
{
    MapPlan m;
    m.file = QStringLiteral("Tri-Station Relay.spw");
    m.name = QStringLiteral("Tri-Station Relay");
    m.desc = QStringLiteral("Three stations around a raised relay. Walkways link them all; flyers take the short way.");
    m.players = 3;
    m.width = 24;
    m.height = 16;
    m.symmetry = Symmetry::MirrorX;
    m.drawing = {
        "............",
        ".########...",
        ".#,,,,GG#.##",
        ".#,,,,GG===v",
        ".#FFF,,,#.#B",
        ".#FFF,,,#.#B",
        ".#FFF,,,#.#^",
        ".#x,,,,,===,",
        ".##=#####.#=",
        "...=.......=",
        "...=..#####=",
        "...====,,,,,",
        "......#rr,,,",
        "......#rr~,,",
        "......######",
        "............",
    };
    m.buildings = {
        {HQ, 1, 3, 5},    {Factory, 1, 6, 5},  {Airport, 1, 5, 2},  {City, 1, 4, 7},
        {City, 0, 6, 7},  {City, 0, 11, 4},    {Airport, 0, 11, 7}, {City, 3, 9, 12},
    };
    m.units = {
        {Infantry, 1, 4, 3}, {Infantry, 1, 6, 6}, {HeavyInfantry, 1, 2, 3}, {HeavyTank, 1, 5, 5},
        {Rover, 1, 6, 4},    {AntiAir, 1, 5, 7},  {Recon, 1, 7, 2},         {Fighter, 1, 0, 5},
    };
    // The southern station sits on the mirror line.
    m.fixedBuildings = {{HQ, 3, 11, 12}, {Factory, 3, 12, 12}, {Airport, 3, 12, 13}};
    m.fixedUnits = {
        {Infantry, 3, 10, 11}, {Infantry, 3, 13, 11}, {HeavyInfantry, 3, 10, 13}, {HeavyTank, 3, 13, 13},
        {Rover, 3, 8, 11},     {AntiAir, 3, 15, 11},  {Recon, 3, 16, 13},         {Fighter, 3, 11, 15},
    };
    m.victory = QStringLiteral("The relay answers to us alone.");
    m.defeat = QStringLiteral("Our station has gone dark.");
    m.dayMessages = {
        QStringLiteral("The relay's raised deck is reached by its ramps."),
        QStringLiteral("The long walkway leads from the north to the southern station."),
    };
    return m;
}

// Four docks in the corners around a hub with a plateau of four cities.
// The largest map: the whole battle area.
MapPlan fourDocks()
{
    MapPlan m;
    m.file = QStringLiteral("Four Docks.spw");
    m.name = QStringLiteral("Four Docks");
    m.desc = QStringLiteral("Four docks and a hub. Walkways run between neighbours; the hub's plateau holds four cities.");
    m.players = 4;
    m.width = 32;
    m.height = 16;
    m.symmetry = Symmetry::MirrorXY;
    m.drawing = {
        "................",
        ".#########......",
        ".#FFF,,GG=======",
        ".#FFF,,GG#......",
        ".#FFF,rr,#..####",
        ".#,,,,rr,====,,v",
        ".##=######..#,RR",
        "...=........#>RR",
    };
    m.buildings = {
        {HQ, 1, 3, 3},   {Factory, 1, 5, 2}, {Airport, 1, 4, 5}, {City, 1, 6, 3},
        {City, 0, 8, 4}, {City, 0, 15, 7},   {Factory, 0, 13, 6},
    };
    m.units = {
        {Infantry, 1, 5, 4},  {Infantry, 1, 2, 5}, {HeavyInfantry, 1, 8, 5}, {HeavyTank, 1, 5, 5},
        {Rover, 1, 8, 2},     {AntiAir, 1, 3, 5},  {Recon, 1, 7, 3},         {Fighter, 1, 0, 2},
        {BattleCruiser, 1, 11, 7},
    };
    m.victory = QStringLiteral("Every dock answers to us.");
    m.defeat = QStringLiteral("Our dock is lost.");
    m.dayMessages = {
        QStringLiteral("Four cities wait on the hub's plateau."),
        QStringLiteral("Walkways are narrow: guard them from the air."),
    };
    return m;
}

}  // namespace

std::vector<MapPlan> allMaps()
{
    return {spacePorts(), basicTraining(), triStationRelay(), fourDocks()};
}

}  // namespace maps
