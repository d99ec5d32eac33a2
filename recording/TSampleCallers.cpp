#include "TSampleCallers.h"

namespace TSampleCallers {

const std::array<const char*, 50> DialledNumbers = {
    "2125550143", "3105550198", "4155550112", "6175550187", "2065550164", "3125550139",
    "7135550176", "4045550121", "3055550158", "2155550183", "6025550117", "5035550192",
    "6195550145", "7205550168", "8085550131", "9165550174", "5125550126", "6145550189",
    "3145550153", "4125550162", "5025550118", "7025550195", "8015550137", "9195550141",
    "6125550184", "4145550129", "5135550172", "3175550156", "2145550113", "8165550197",
    "9045550148", "7575550181", "6035550124", "2075550166", "4015550159", "8605550133",
    "9785550177", "5085550142", "7815550115", "6175550191", "4135550128", "2035550163",
    "8455550186", "9145550119", "5185550154", "3155550175", "7165550132", "5855550188",
    "6075550146", "3475550171"};

const std::array<const char*, 50> CallerNumbers = {
    "2125550101", "3105550102", "4155550103", "6175550104", "2065550105", "PRIVATE CALL",
    "7135550107", "4045550108", "3055550109", "2155550110", "6025550111", "5035550112",
    "LONG DISTANCE", "7205550114", "8085550115", "9165550116", "5125550117", "6145550118",
    "3145550119", "PRIVATE CALL", "5025550121", "7025550122", "8015550123", "9195550124",
    "6125550125", "4145550126", "5135550127", "LONG DISTANCE", "2145550129", "8165550130",
    "9045550131", "7575550132", "PRIVATE CALL", "2075550134", "4015550135", "8605550136",
    "LONG DISTANCE", "5085550138", "7815550139", "6175550140", "4135550141", "2035550142",
    "8455550143", "9145550144", "5185550145", "3155550146", "7165550147", "5855550148",
    "6075550149", "3475550150"};

const std::array<const char*, 50> CallerNames = {
    "John Carter",     "MARIA LOPEZ",     "Peter Novak",     "Susan Miller",    "DAVID CHEN",
    "",                "Laura Bianchi",   "Mark Johnson",    "ANNA KOWALSKI",   "WIRELESS CALLER",
    "Robert Brown",    "Emily Davis",     "",                "James Wilson",    "SARAH MOORE",
    "Thomas Taylor",   "Linda Anderson",  "MICHAEL THOMAS",  "Karen Jackson",   "",
    "Paul White",      "NANCY HARRIS",    "Steven Martin",   "Betty Thompson",  "George Garcia",
    "HELEN MARTINEZ",  "Kevin Robinson",  "",                "Sandra Clark",    "BRIAN LEWIS",
    "Donna Lee",       "Edward Walker",   "",                "CAROL HALL",      "Jason Allen",
    "Ruth Young",      "",                "Frank Hernandez", "SHARON KING",     "Gary Wright",
    "Deborah Scott",   "Henry Green",     "JESSICA ADAMS",   "Walter Baker",    "Cynthia Nelson",
    "Larry Hill",      "WIRELESS CALLER", "Angela Ramirez",  "WIRELESS CALLER", "Joseph Campbell"};

}  // namespace TSampleCallers
