This template builds a plain page. Lines before the first marker are not used.
[ItemsHeader]
<html>
<head>
<title>Zp&#283;tn&yacute; seznam</title>
</head>
<body>
<h1>Zp&#283;tn&yacute; seznam</h1>
[KategoryHead]
<h2>
$Kategory
</h2>
<table border="1" cellpadding="3">
<tr><th>N&aacute;zev</th><th>Velikost</th><th>Archiv</th><th>Cesta</th><th>Popis</th></tr>
[Item]
<tr><td>
$Name
</td><td align="right">
$Size
</td><td>
$Archive
</td><td>
$Path
</td><td>
$Description
</td></tr>
[KategoryEnd]
</table>
[ItemsEnd]
</body>
</html>
