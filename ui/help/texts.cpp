#include "ui/help/texts.h"

#include <QStringList>

namespace korvexa::texts {

QString HelpText() {
  const QStringList lines = {
      QStringLiteral("Pellanore  (1.0)  FAQ:"),
      QString(),
      QStringLiteral("\"Where do I get a .LX file?\" -- Go to the public land-survey website of the Bureau of "
                     "Land Management, ") +
          kLandSurveyWebsite + QStringLiteral(", choose \"land survey data\" there and follow the instructions."),
      QString(),
      QStringLiteral("\"My file from geocommunicator is something like \"gcdb1097613133591.zip\", how do I use it?\" "
                     "-- Unpack it with any unzip utility, then convert the .LX file inside it with Pellanore."),
      QString(),
      QStringLiteral("\"How do I know which point(s) to process?\" -- Make the .DXF file first: it always holds the "
                     "whole township, ready to view and print in most CAD or GIS programs, and shows the lines and "
                     "the identifiers of all points."),
      QStringLiteral("With the drawing at hand, run Pellanore again and select and process only the points you "
                     "are after."),
      QString(),
      QStringLiteral("\"How do I select the points to process?\" -- Scroll through the list and put a check mark "
                     "beside the point identifier of every point you want."),
      QString(),
      QStringLiteral("A few possiblible choices for interfacing with Garmin GPS:"),
      QStringLiteral("\"Source Datum?\" -- The GCDB flat files were made in the North American Datum of 1927 "
                     "(NAD27); the GIS shapefiles were moved to the North American Datum of 1983 (NAD83)."),
      QStringLiteral("The flat files you download from the website are therefore in NAD27, even though nothing "
                     "in them says so. A GPS reads a waypoint file as WGS 84, which is within a meter or two of "
                     "NAD83 but 10 to 100 meters from NAD27: keep \"Transform NAD27 to NAD83\" checked."),
      QString(),
      QStringLiteral("\"GARMIN data format?\" -- The file a Garmin receiver reads is also known as the \"PCX "
                     "format\"; receivers of other makers read it as well."),
      QString(),
      QStringLiteral("\"What if I rerun the program?\" -- Every run writes its output files anew, so you can "
                     "build the Garmin file again as often as you like."),
      QStringLiteral("It carries the name of the input .LX file with the extension \".GRM\"."),
      QString(),
      QStringLiteral("\"How do I load the file into my GPS?\" -- Pellanore puts the points on a Garmin unit "
                     "plugged in by USB itself (File > Export > Send to GPS, see below), and its township map reads "
                     "a GPS receiver to lead you to them. For other receivers, other software loads the file."),
      QString(),
      QStringLiteral("A few choices for connection to GARMIN GPS:"),
      QStringLiteral("TopoGrafix"),
      QStringLiteral("OziExplorer"),
      QStringLiteral("GPS Trackmaker"),
      QStringLiteral("Garmin Mapsource"),
      QStringLiteral("Delorme \"Xmap\"     .... and many others"),
      QString(),
      QStringLiteral("\"Can I pick the points on a map instead of by their numbers?\" -- Yes: choose View > "
                     "Township map (Ctrl+M). Click a point to check or uncheck it, or drag a rectangle around "
                     "several (hold Shift to uncheck them); the list shows the same check marks. The wheel zooms, "
                     "F shows the whole township again."),
      QString(),
      QStringLiteral("\"Can I take the map into the field?\" -- Print, Save as PDF or Save as PNG in the map window "
                     "make a field sheet: the map with the checked points named, the date, and a table of their "
                     "latitude, longitude and elevation in the datum of the waypoint file."),
      QString(),
      QStringLiteral("\"Can I take the points to a data collector or to Google Earth?\" -- Check them and choose "
                     "File > Export. \"Point file for a data collector (CSV)\" writes them in a State Plane or UTM "
                     "zone, in the zone's unit, with a .PRJ file that names the zone: make sure it is the zone your "
                     "county uses. \"Google Earth (KML)\" writes the points and the surveyed lines in NAD83. File > "
                     "Save waypoints as... writes the waypoint file into another folder."),
      QString(),
      QStringLiteral("\"Can Pellanore put the points onto my Garmin?\" -- Yes: plug the unit in by USB, check the "
                     "points and choose File > Export > Send to GPS. The GPX file goes into the folder the unit "
                     "reads it from."),
      QString(),
      QStringLiteral("\"Can the map show where I stand?\" -- Yes, on an .LX file's township or a data set's, "
                     "with a GPS receiver on a USB or Bluetooth port, or through gpsd: in the map window choose "
                     "GPS > Receiver... (Ctrl+G). Double-click a point, or choose Navigate to in the list, and the "
                     "Navigation panel gives its distance and bearing. Next "
                     "(N) leads on to the nearest checked point not yet visited; GPS > Save trail as GPX... saves "
                     "where you walked. The walk goes on while the map is closed, and is kept in a journal as "
                     "you go: after a crash the next start offers to bring it back."),
  };
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString AboutDescription() {
  return QStringLiteral(
             "Korvexa was written to facilitate the use of GCDB Flat Files downloaded from the BLM's "
             "GeoCommunicator website (") +
         kLandSurveyWebsite +
         QStringLiteral(
             ").    Specifically, this software transforms a GCDB .LX file to a format suitable for upload to a "
             "Garmin GPS receiver.  Optional capabilities include the ability to perform a datum transformation "
             "and produce a CAD readable .dxf file.");
}

QString DisclaimerText() {
  // 21 lines: 13 of warranty disclaimer, an empty one, 7 of notices.
  const QStringList lines = {
      QStringLiteral("VESK-SURVEYING ENGINEERING AND THE AUTHOR "),
      QStringLiteral("PROVIDE THIS SOFTWARE \"AS IS\", WITHOUT "),
      QStringLiteral("WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, "),
      QStringLiteral("INCLUDING THE IMPLIED WARRANTIES OF "),
      QStringLiteral("MERCHANTABILITY AND FITNESS FOR A PARTICULAR "),
      QStringLiteral("PURPOSE. NEITHER VESK-SURVEYING ENGINEERING, "),
      QStringLiteral("ITS REGENTS, FACULTY, EMPLOYEES OR AGENTS, "),
      QStringLiteral("NOR THE AUTHOR SHALL BE LIABLE FOR INDIRECT, "),
      QStringLiteral("SPECIAL, INCIDENTAL OR CONSEQUENTIAL DAMAGES "),
      QStringLiteral("(LOSS OF PROFITS, BUSINESS, USE OR DATA, "),
      QStringLiteral("INTERRUPTION OF BUSINESS AND THE LIKE), EVEN "),
      QStringLiteral("IF ADVISED OF THEIR POSSIBILITY, ARISING FROM "),
      QStringLiteral("ANY DEFECT OR ERROR IN THIS SOFTWARE. "),
      QString(),
      QStringLiteral("This software makes use of separately licensed material. "),
      QStringLiteral("Garmin is a trademark of Garmin Ltd. or its subsidiaries. "),
      QStringLiteral("todos is distributed under the GNU General Public License. "),
      QStringLiteral("lx2dxf, the DXF converter, is distributed with "),
      QStringLiteral("Korvexa under the MIT License, free of charge. "),
      QStringLiteral("Other product and company names may be marks of their "),
      QStringLiteral("owners, named only to identify or explain, not to infringe. "),
  };
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace korvexa::texts
